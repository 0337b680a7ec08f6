// zok2: the table editor's window.
#include "app/CZOKApp.h"

int main(int argc, char** argv) { return zok2::RunApplication(argc, argv); }
