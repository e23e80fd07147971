#pragma once

namespace kestrin_ui {

// The form was drawn for compact native controls; GTK's default theme pads
// spin buttons, drop-downs and buttons so much that the message rows no
// longer fit the 966-pixel window. This tightens that padding once.
void ApplyCompactStyle();

}  // namespace kestrin_ui
