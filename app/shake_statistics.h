#pragma once

// Sends one "mouse_shaked" event through the process's statistics client without waiting for it: what
// the main window hands the cursor manager as its enlarged-transition callback.
void ReportMouseShaked();
