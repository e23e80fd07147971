#include <gtk/gtk.h>

#include "app/accessible.h"

namespace kestrin_ui {

void SetAccessibleName(wxWindow* control, const wxString& name) {
    // The widget that takes the focus is the one the accessibility bus
    // reports: the text view of a multi-line field, the scale of a slider.
    GtkWidget* widget = control->GetConnectWidget();
    if (!widget) return;
    if (AtkObject* accessible = gtk_widget_get_accessible(widget))
        atk_object_set_name(accessible, name.utf8_str());
}

}  // namespace kestrin_ui
