// OUTLOOK.EXE: the stand-in Outlook's program. It carries the version record
// that the application reports as Outlook's version, and edits the Contacts
// folder from the command line.
#include <cstdio>

#include "platform/win32/WinVersion.h"
#include "standins/outlook/OlStandin.h"

PELLMARK_VERSION_INFO(11, 0, 8312, 0);

int main(int argc, char** argv) { return OlStandinCommand(argc, argv, stdout, stderr); }
