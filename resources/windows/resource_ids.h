// Resource numbers shared by tessle.rc and the program that loads them.
#pragma once

#define IDI_TESSLE 1
// PNG pictures as RCDATA: picture i at 1x is IDP_PICTURE + i, its @2x twin IDP_PICTURE2X + i.
#define IDP_PICTURE 100
#define IDP_PICTURE2X 110
#define IDP_SMILEY 120
#define IDP_SMILEY2X 121
#define IDP_MAIL 122
#define IDP_MAIL2X 123
// The program icon as a picture, for the about panel.
#define IDP_PROGRAM 124
