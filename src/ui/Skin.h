#pragma once
// A small skin module: SkinH_Attach gives the application our palette, SkinH_AdjustHSV shifts its
// colours, SkinH_Detach gives back the palette found at the first attach. The program looks and
// works the same without it (all calls may be left out).

namespace pagemint {

int SkinH_Attach();
// Hue in degrees, saturation and brightness in percent of their range (-100 … 100).
int SkinH_AdjustHSV(int hue, int saturation, int brightness);
int SkinH_Detach();

} // namespace pagemint
