#pragma once

#include <wx/app.h>

class Kestrin_ProApp : public wxApp {
  public:
    bool OnInit() override;
};
