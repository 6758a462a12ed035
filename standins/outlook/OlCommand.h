// The command line of OUTLOOK.EXE: lists and edits the stand-in's Contacts
// folder (and its subfolders) outside the automation interface.
#pragma once

#include <cstdio>

// argv[0] is the program name. Returns 0 on success, 1 when the file or the
// item cannot be used, 2 for a usage error (with the usage on err).
int RunOlCommand(int argc, const char* const* argv, FILE* out, FILE* err);
