#include "app/compact_style.h"

#include <wx/defs.h>

#ifdef __WXGTK3__
#include <dlfcn.h>
#endif

namespace kestrin_ui {

void ApplyCompactStyle() {
#ifdef __WXGTK3__
    static bool applied = false;
    if (applied) return;
    applied = true;
    // GTK is already loaded by the toolkit; its headers are not needed for
    // four calls, so they are looked up in the running process.
    using NewProvider = void* (*)();
    using LoadData = int (*)(void*, const char*, long, void**);
    using DefaultScreen = void* (*)();
    using AddProvider = void (*)(void*, void*, unsigned);
    auto newProvider = reinterpret_cast<NewProvider>(dlsym(RTLD_DEFAULT, "gtk_css_provider_new"));
    auto loadData =
        reinterpret_cast<LoadData>(dlsym(RTLD_DEFAULT, "gtk_css_provider_load_from_data"));
    auto defaultScreen =
        reinterpret_cast<DefaultScreen>(dlsym(RTLD_DEFAULT, "gdk_screen_get_default"));
    auto addProvider = reinterpret_cast<AddProvider>(
        dlsym(RTLD_DEFAULT, "gtk_style_context_add_provider_for_screen"));
    if (!newProvider || !loadData || !defaultScreen || !addProvider) return;
    void* screen = defaultScreen();
    if (!screen) return;
    static const char kCss[] =
        "spinbutton button { min-width: 14px; min-height: 22px; padding: 0 3px; }"
        "spinbutton entry { min-width: 0; min-height: 22px; }"
        "entry { min-height: 22px; padding-top: 1px; padding-bottom: 1px; }"
        "button { min-height: 22px; padding: 1px 6px; }"
        "combobox button { padding: 1px 4px; }"
        "scale { padding-top: 4px; padding-bottom: 4px; }";
    void* provider = newProvider();
    if (!loadData(provider, kCss, -1, nullptr)) return;
    const unsigned kApplicationPriority = 600;
    addProvider(screen, provider, kApplicationPriority);
#endif
}

}  // namespace kestrin_ui
