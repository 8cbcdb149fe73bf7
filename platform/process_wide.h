#pragma once
// Process-wide hooks that every module sees, even though this static layer is linked into
// the program and into each shared library separately: the pointer is kept as a property of
// the application object (or, before one exists, in this module).
#include <QObject>

namespace platform {

void* ProcessWideGet(const char* key);
void ProcessWideSet(const char* key, void* value);

// The window that receives the communication engine's notices (the main form).
QObject* MainForm();
void SetMainForm(QObject* form);

}  // namespace platform
