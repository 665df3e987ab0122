#pragma once

#include <QColor>

namespace skingen::palette {

// One calm teal family with white; the single warm colour marks PDF.
inline const QColor kColourKey{255, 0, 255};
inline const QColor kFrame{0x0d, 0x3b, 0x42};
inline const QColor kHeaderTop{0x21, 0x74, 0x7c};
inline const QColor kHeaderBottom{0x15, 0x58, 0x60};
inline const QColor kHeaderText{0xf4, 0xfb, 0xfb};
inline const QColor kHeaderSoftText{0xb9, 0xdc, 0xdd};
inline const QColor kBody{0xec, 0xf3, 0xf4};
inline const QColor kBodyEdge{0xc6, 0xd8, 0xdb};
inline const QColor kBodyText{0x2b, 0x4c, 0x52};
inline const QColor kWell{0xff, 0xff, 0xff};
inline const QColor kMint{0x2f, 0xb5, 0x9c};
inline const QColor kMintDark{0x1e, 0x8a, 0x77};
inline const QColor kAccent{0x1b, 0x6f, 0x78};
inline const QColor kPdfRed{0xd9, 0x4a, 0x3f};
inline const QColor kSun{0xf6, 0xc3, 0x4b};

} // namespace skingen::palette
