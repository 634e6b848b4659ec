// The product's shortcut: one shell link to the installed main program, in
// the current user's Startup folder or Programs folder.
#pragma once

// Writes GroupName + ".LNK" into the Startup folder when StartWithSystem is
// true, otherwise into the Programs folder (both read from the user's Shell
// Folders; an empty folder leaves the name relative to the current
// directory). The link targets JoinPath(DestinationDir, MainProgramFile),
// starts in DestinationDir and shows its window normally. No folder is
// created, and no failure is reported: a link that cannot be saved is simply
// not there. Errors of the registry class pass through.
void CreateProductShortcut();
