#pragma once

#include <wx/app.h>
#include <wx/cmdline.h>

class Kestrin_ProApp : public wxApp {
  public:
    bool OnInit() override;
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

  private:
    wxString startFile_;  // the configuration named on the command line
};

namespace kestrin_ui {

// The options and the file parameter, for every parser that reads them.
void DescribeCommandLine(wxCmdLineParser& parser);

// Answers --version and --help, which need no display, before the toolkit
// starts. True when the program is done, with its exit status in rc.
bool AnswerWithoutDisplay(int argc, char** argv, int& rc);

}  // namespace kestrin_ui
