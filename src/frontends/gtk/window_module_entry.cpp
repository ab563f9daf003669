// The factory farlaunch-gtk.so exports to the launcher that loads it.
#include "frontends/gtk/gtk_platform.h"
#include "platform/window_module.h"

platform::Platform* farlaunch_create_window_platform() { return frontends::gtk::GtkPlatform::Create().release(); }
