#include "dialogs/DialogHost.h"

TDialogHost& DialogHost() {
    static TDialogHost host;
    return host;
}
