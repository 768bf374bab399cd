#pragma once

// Installs the dialogs of the picture object: its information lines when the
// user asks for the properties of the picture ("Image info"), and the history
// page listing what has been done to it. The program calls it once at
// start-up; without it both go to a message box.

class QDialog;
class TVFImage;
class QWidget;

void InstallImageInfoListDialog();

// The dialog that holds the history page of a picture (with a Close button).
QDialog *CreateImageHistoryDialog(TVFImage *image, QWidget *parent);
