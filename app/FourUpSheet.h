// The "印刷" handler's body: asks for a printer and prints the four slots' pictures on
// one landscape sheet, one quarter of the printable area each.
#pragma once

class TPicture;
class TPrintDialog;

// Runs the print dialog, then prints. A failure while the sheet is drawn abandons the
// job (nothing is printed, the printer is idle again) and passes the error on.
void PrintFourUpSheet(TPrintDialog& dialog, TPicture* const slots[4]);
// True while a sheet's job is open: handlers that replace slot pictures must wait.
bool SheetPrintInProgress();
