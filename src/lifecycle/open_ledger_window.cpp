#include "form1.h"

// hands over to the ledger window
void Form1::OpenLedgerWindow() {}
