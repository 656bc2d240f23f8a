#pragma once
#include <QPixmap>

// The program's own pictures, built into its resources.
QPixmap LogoPicture();           // 48 x 48, the band of the sign-in dialogs
QPixmap BannerPicture();         // the main window's banner, drawn stretched
QPixmap DefaultDesktopPicture(); // the desktop when no "DeskTop.Jpg" lies beside the executable

// The large images of the navigation bar: 31 icons of 32 x 32 pixels.
constexpr int LargeImageCount = 31;
QPixmap LargeImage(int index); // a null pixmap outside 0..30
