// The sizes, in pixels, of the pictures the windows take their size from. tools/draw-art draws
// the pictures to these sizes and reads them from this file (one "#define NAME number" a line),
// so keep each a plain number.
#ifndef XCYH2_RESOURCES_PICTURESIZES_H
#define XCYH2_RESOURCES_PICTURESIZES_H

// The login background (art/login_bg.png): the login window's client size.
#define XCYH2_LOGIN_BG_WIDTH 1237
#define XCYH2_LOGIN_BG_HEIGHT 696

// The loading picture (art/loading.png): the start-up window's size.
#define XCYH2_LOADING_WIDTH 356
#define XCYH2_LOADING_HEIGHT 122

#endif  // XCYH2_RESOURCES_PICTURESIZES_H
