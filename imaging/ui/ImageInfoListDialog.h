#pragma once

// Installs the dialog that shows a picture's information lines when the user
// asks for the properties of the picture object ("Image info"). The program
// calls it once at start-up; without it the lines go to a message box.

void InstallImageInfoListDialog();
