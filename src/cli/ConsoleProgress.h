#pragma once
// The command line's progress on standard error, apart from any stream: a bar redrawn in place on
// a terminal, a plain line per picture elsewhere (a log, a pipe).

#include <QString>

namespace pagemint {

inline constexpr int kProgressBarColumns = 30;

// "[##########--------------------]  10/30 张图片": `done` of `total` pictures, the bar
// kProgressBarColumns wide, filled by whole columns (full only when all are done).
QString pictureBarLine(int done, int total);

// "生成PDF [###...] 50%": the converter's part of a merged run, `fraction` from 0 to 1.
QString converterBarLine(double fraction);

// "已处理 3/10：photo.jpg": one line per picture, numbered from 1.
QString pictureDoneLine(int done, int total, const QString &picture);

} // namespace pagemint
