// Every constant the shell shares: titles, codes, addresses, file names, resource ids, version.
// Nothing is configured at run time; the hosts are fixed when the program is built.
#pragma once

#include "generated/BuildHosts.h"
#include "generated/BuildProduct.h"
#include "generated/BuildVersion.h"
#include "resources/PictureSizes.h"
#include "resources/ResourceIds.h"

namespace xcyh2::settings {

// Titles and texts. The product's names come from the build (CMakeLists.txt).
inline constexpr const wchar_t* kGameTitle = XCYH2_PRODUCT_NAME_W;
inline constexpr const wchar_t* kCaptionSuffix = XCYH2_CAPTION_SUFFIX_W;
inline constexpr const wchar_t* kWindowCaption = XCYH2_CAPTION_W;  // title followed by the suffix
inline constexpr const wchar_t* kDialogCaption = L"提示";
inline constexpr const wchar_t* kDesignCaption = XCYH2_PUBLISHER_W XCYH2_CAPTION_SUFFIX_W;  // the publisher, then the suffix

// Game code: URL paths and the icon file written to the temporary folder.
inline constexpr const wchar_t* kGameCode = L"xcyh2";
inline constexpr const wchar_t* kIconFileName = L"xcyh2.ico";

// Addresses: scheme and paths are fixed, hosts come from the build.
inline constexpr const wchar_t* kStaticHost = XCYH2_STATIC_HOST_W;
inline constexpr const wchar_t* kWebHost = XCYH2_WEB_HOST_W;
inline constexpr const wchar_t* kHomeHost = XCYH2_HOME_HOST_W;
inline constexpr const wchar_t* kUpdateManifestUrl = L"http://" XCYH2_STATIC_HOST_W L"/gamehome/xcyh2/update.txt";
inline constexpr const wchar_t* kLoginPageUrl = L"http://" XCYH2_WEB_HOST_W L"/xcyh2/login/login.html";
inline constexpr const wchar_t* kGameSpaceUrl = L"http://" XCYH2_WEB_HOST_W L"/xcyh2/";
inline constexpr const wchar_t* kHomePageUrl = L"http://" XCYH2_HOME_HOST_W L"/";

// Files in the temporary folder.
inline constexpr const wchar_t* kManifestFileName = L"update.txt";
inline constexpr const wchar_t* kUpdaterFileName = L"Update.exe";
// The publisher's signature of a manifest lies beside it under the manifest's name and this,
// on the host and in the temporary folder alike.
inline constexpr const wchar_t* kSignatureSuffix = L".sig";

// The one command-line switch.
inline constexpr const wchar_t* kWebSwitch = L"/web";

// Messages.
inline constexpr const wchar_t* kOfflineMessage = L"未能连接到服务器，请检查网络连接是否正常！";

// Program version: set once, by the build, which writes the version resource from it too.
inline constexpr int kVersionMajor = XCYH2_VERSION_MAJOR;
inline constexpr int kVersionMinor = XCYH2_VERSION_MINOR;
inline constexpr int kVersionRevision = XCYH2_VERSION_REVISION;

// Embedded resources: custom types addressed by name and numeric id, language 2052. The ids
// and the pictures' sizes are the resource scripts' own (resources/).
inline constexpr const wchar_t* kResTypePng = L"PNG";
inline constexpr const wchar_t* kResTypeIcon = L"ICON";
inline constexpr const wchar_t* kResTypeUpdate = L"UPDATE";
inline constexpr int kResLoginBackground = IDR_PNG_LOGIN_BG;
inline constexpr int kResLoadingPicture = IDR_PNG_LOADING;
inline constexpr int kResIconFile = IDR_ICON_FILE;  // ICON: a whole .ico file, six images
inline constexpr int kResUpdater = IDR_UPDATER;     // UPDATE: the updater program
inline constexpr int kLoginBackgroundWidth = XCYH2_LOGIN_BG_WIDTH;
inline constexpr int kLoginBackgroundHeight = XCYH2_LOGIN_BG_HEIGHT;
inline constexpr int kLoadingPictureWidth = XCYH2_LOADING_WIDTH;
inline constexpr int kLoadingPictureHeight = XCYH2_LOADING_HEIGHT;

}  // namespace xcyh2::settings
