#pragma once

// The tray program's windows are skinned for three DPI steps only. Rounds a monitor's DPI to the
// nearest of them: below 121 gives 96, 121 to 172 gives 144, 173 and above gives 192 (between 144
// and 192 the midpoint is taken against 200, so 173 already counts as 192).
int SnapDpi(int dpi);
