#pragma once
// The program's icon on Linux, for every window it opens: the task list,
// the window switcher and the window manager's frame show it. It is drawn
// into the program at build time, so an uninstalled build carries it too.

// Makes the icon, in each of its sizes, the default of every GTK window;
// the bare GDK saver windows copy that default.
void SetProgramIcon();
