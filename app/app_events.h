#pragma once

// The tray program's statistics events, all with the key "event" and sent through the process's
// statistics client without waiting: the caller is the UI thread and must never block on the network.
void SendAppEvent(const char* value);

// One "mouse_shaked" event: what the main window hands the cursor manager as its enlarged-transition
// callback.
void ReportMouseShaked();
