// What a screen reader (through AT-SPI, or the platform's bridge) learns of our own widgets:
// a fader is a slider whose value reads in the units the dialog gave it, and a group frame is
// a grouping named by its caption unless the dialog named it. Standard widgets keep Qt's own
// interfaces, with the names the dialog gave them.
//
// Threads: the GUI thread only.
#pragma once

// Installs the interfaces for our widgets; once per program, before a screen reader asks.
void InstallAccessibleInterfaces();
