#pragma once

// Installs the dialog in which the user writes the text of a text box or a
// label. The program calls it once at start-up.

void InstallOverlayTextEntry();
