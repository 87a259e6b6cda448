#pragma once

#include <QImage>
#include <QList>

namespace pagesmith {

// The program's own pictures, drawn in code at any size: the program icon and
// one image per toolbar command. The same drawings make the installed icon
// files, so the window and the desktop show the same picture.
enum class CommandImage { Convert, Merge, SelectAll, IncludeSubFolder, KeepFileName, Help, About };

QImage drawProgramIcon(int size);
QImage drawCommandImage(CommandImage image, int size);

// The sizes the program icon is drawn in for windows and the desktop.
QList<int> programIconSizes();

} // namespace pagesmith
