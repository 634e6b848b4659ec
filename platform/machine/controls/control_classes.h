// The standard dialog controls of the simulated machine: the window classes
// "BUTTON", "EDIT" and "STATIC", written over the public Win32 API like any
// program's own window classes.
#pragma once

// Registers the three control classes with RegisterClassA. The window manager
// calls it on every machine reset, after its class table has been emptied, so
// that dialogs and CreateWindowExA find the classes by name (without regard
// to case, "Edit" included).
void RegisterControlClasses();
