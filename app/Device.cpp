// Device operations: connection monitor, packet layer, programming run,
// read-back and engineering commands. The bytes come from the wx-free core
// (device/, config/); this file only moves them and keeps the form in step.
#include <wx/app.h>
#include <wx/settings.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "app/Kestrin_ProMain.h"
#include "app/accessible.h"
#include "app/running_operation.h"
#include "app/ui_hooks.h"
#include "config/backup.h"
#include "config/codes.h"
#include "config/config_file.h"
#include "config/data_folder.h"
#include "config/decode.h"
#include "config/eeprom.h"
#include "config/encode.h"
#include "config/programming_log.h"
#include "device/connection.h"
#include "device/link.h"
#include "device/operations.h"
#include "device/payloads.h"
#include "device/verified_run.h"
#include "pages/frequency.h"

using namespace kestrin;

void Kestrin_ProFrame::Warn(const wxString& text) {
    kestrin_ui::MessageBox(text, "Warning", wxOK | wxICON_EXCLAMATION | wxCENTRE, nullptr);
}

// ---------------------------------------------------------------------------
// Connection monitor

void Kestrin_ProFrame::OnTimer1Trigger1(wxTimerEvent&) {
    if (deviceBusy) return;  // the next tick looks again
    deviceBusy = true;

    // 1. Find the shoe.
    if (!connected) {
        for (const Listed& adapter : ListAdapters()) {
            if (!IsProgrammingShoe(adapter.serial, adapter.description)) continue;
            // A shoe that cannot be opened is not a connection; try again next tick.
            FT_HANDLE handle = nullptr;
            if (FT_Open(static_cast<int>(adapter.index), &handle) != FT_OK) continue;
            if (connected) FT_Close(ftHandle);  // a later match takes over
            connected = true;
            ftHandle = handle;
            // Display-only fields: written without marking the form as changed.
            TextCtrl_Connectionstatus->ChangeValue("CONNECTED");
            TextCtrl_Connectionstatus->SetBackgroundColour(wxColour(4, 255, 4));
            TextCtrl_Connectionstatus->Refresh();
            SetLine(ftHandle, 19200);
            Bytes reply;
            if (WriteAll(ftHandle, kVersionQuery)) reply = ReadReply(ftHandle, kInfoReplyCapacity);
            TextCtrl_ShoeVersion->ChangeValue(ShoeVersionText(reply));
            Button_Program->Enable();
        }
    } else {
        // 2. Notice it gone.
        DWORD rx = 0, tx = 0, events = 0;
        if (FT_GetStatus(ftHandle, &rx, &tx, &events) == FT_IO_ERROR) {
            connected = false;
            FT_Close(ftHandle);
            ftHandle = nullptr;
            TextCtrl_Connectionstatus->ChangeValue("DISCONNECTED");
            TextCtrl_Connectionstatus->SetBackgroundColour(wxColour(255, 4, 4));
            TextCtrl_Connectionstatus->Refresh();
            TextCtrl_ShoeVersion->ChangeValue(wxEmptyString);
            Button_Program->Disable();
        }
    }

    // 3-4. The read cable, independently.
    if (!connectedRead) {
        FT_HANDLE handle = nullptr;
        char description[] = "TTL232R-3V3";
        if (FT_OpenEx(description, FT_OPEN_BY_DESCRIPTION, &handle) == FT_OK) {
            connectedRead = true;
            ftHandleRead = handle;
            SetLine(ftHandleRead, 115200);
        }
    } else {
        DWORD rx = 0, tx = 0, events = 0;
        if (FT_GetStatus(ftHandleRead, &rx, &tx, &events) == FT_IO_ERROR) {
            connectedRead = false;
            FT_Close(ftHandleRead);
            ftHandleRead = nullptr;
        }
    }

    // 5-6. Buttons follow.
    Button_Read->Show(connectedRead);
    Button_Read->GetParent()->Layout();
    for (wxButton* b : EngineeringButtons()) b->Enable(connected);

    deviceBusy = false;
}

// ---------------------------------------------------------------------------
// One operation at a time, on a worker

InputBlock::InputBlock(Kestrin_ProFrame* frame, std::vector<wxWindow*> keep) : frame_(frame) {
    focus_ = wxWindow::FindFocus();
    // Only the page on show is disabled, and the notebook refuses to turn
    // pages meanwhile: restyling every page would stall the window for longer
    // than the operation's progress may.
    std::vector<wxWindow*> all{frame->Notebook1->GetCurrentPage()};
    for (wxWindow* w : frame->Panel9->GetChildren())
        if (std::find(keep.begin(), keep.end(), w) == keep.end()) all.push_back(w);
    for (wxWindow* w : all) {
        windows_.emplace_back(w, w->IsThisEnabled());
        w->Disable();
    }
    if (wxMenuBar* bar = frame->GetMenuBar()) {
        for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
            menus_.push_back(bar->IsEnabledTop(i));
            bar->EnableTop(i, false);
        }
    }
}

InputBlock::~InputBlock() {
    for (const auto& [w, enabled] : windows_) w->Enable(enabled);
    if (wxMenuBar* bar = frame_->GetMenuBar())
        for (size_t i = 0; i < menus_.size() && i < bar->GetMenuCount(); ++i)
            bar->EnableTop(i, menus_[i]);
    // The operator goes on where they were.
    if (focus_ && focus_->IsEnabled() && focus_->IsShownOnScreen()) focus_->SetFocus();
}

namespace {
using Clock = std::chrono::steady_clock;
// Input arriving this soon after the click that started an operation is the
// rest of a double-click, not a new request.
int DoubleClickMs() {
    const int ms = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
    return ms > 0 ? ms : 500;
}
}  // namespace

void Kestrin_ProFrame::StartDeviceOperation(int gaugeRange, bool cancellable, DeviceWork work,
                                            std::function<void()> done) {
    deviceBusy = true;
    HideNotice();
    operation = std::make_unique<RunningOperation>();
    operation->cancellable = cancellable;
    operation->done = std::move(done);
    operation->started = Clock::now();

    const kestrin::Progress progress = [this](int done, int) {
        CallAfter([this, done] {
            if (operation) Gauge_Transfer->SetValue(std::min(done, Gauge_Transfer->GetRange()));
        });
    };
    // The worker starts first, so the pacing does not wait for the window to
    // restyle; nothing it posts is handled before this returns.
    RunningOperation* op = operation.get();
    op->worker = std::thread([this, op, work = std::move(work), progress] {
        work(progress, op->cancel);
        CallAfter(&Kestrin_ProFrame::FinishDeviceOperation);
    });

    operation->block = std::make_unique<InputBlock>(
        this, std::vector<wxWindow*>{Button_Cancel, Gauge_Transfer, TextCtrl_Connectionstatus});
    Gauge_Transfer->SetRange(gaugeRange);
    Gauge_Transfer->SetValue(0);
    // A disabled bar draws no progress on GTK; it takes no input either way.
    Gauge_Transfer->Enable();
    Gauge_Transfer->Show();
    Button_Cancel->Enable(cancellable);
    Button_Cancel->Show(cancellable);
    Panel9->Layout();
}

void Kestrin_ProFrame::CancelDeviceOperation() {
    if (!operation || !operation->cancellable) return;
    operation->cancel = true;
    Button_Cancel->Disable();
}

void Kestrin_ProFrame::OnButton_CancelClick(wxCommandEvent&) { CancelDeviceOperation(); }

bool Kestrin_ProFrame::InputBlocked() const { return operation && operation->block; }

void Kestrin_ProFrame::FinishDeviceOperation() {
    if (!operation || operation->finished) return;
    operation->worker.join();
    operation->finished = true;
    Gauge_Transfer->Hide();
    Gauge_Transfer->Disable();
    Button_Cancel->Hide();
    Panel9->Layout();
    // Clicks and keys already on their way still meet the blocked window; the
    // second click of a double-click is refused with the first's operation.
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - operation->started)
            .count();
    const int wait = DoubleClickMs() - static_cast<int>(elapsed);
    if (wait <= 0) {
        // Input that has already arrived is delivered before this call.
        CallAfter(&Kestrin_ProFrame::EndDeviceOperation);
        return;
    }
    operation->settle.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { EndDeviceOperation(); });
    operation->settle.StartOnce(wait);
}

void Kestrin_ProFrame::EndDeviceOperation() {
    std::unique_ptr<RunningOperation> op = std::move(operation);
    op->block.reset();
    if (op->done) op->done();
    deviceBusy = false;
    if (closeAfterOperation) {
        closeAfterOperation = false;
        Close(false);
    }
}

bool Kestrin_ProFrame::AskToEndOperationForClose() {
    if (closeAfterOperation || !operation) return false;
    if (operation->cancellable && !operation->finished) {
        const int answer = kestrin_ui::MessageBox(
            "The transmitter is being programmed or read.\n"
            "Stop now and close Kestrin-Pro once it has stopped?",
            "Please confirm", wxYES_NO | wxICON_QUESTION, this);
        if (answer != wxYES) return false;
        CancelDeviceOperation();
    }
    closeAfterOperation = true;
    return true;
}

// ---------------------------------------------------------------------------
// Packet layer: glue over the core's packets, on the window's link.

bool Kestrin_ProFrame::SerialWrite(uint8_t type, Bytes output) {
    return SendPacket(ftHandle, type, output, crc_total).ok();
}

bool Kestrin_ProFrame::SerialStart() { return SendStartPacket(ftHandle, crc_total).ok(); }

bool Kestrin_ProFrame::SerialEnd() { return SendEndPacket(ftHandle, crc_total).ok(); }

void Kestrin_ProFrame::LoadFromForm() { EncodeForm(ReadForm(), EEPROM, eeprom); }

// ---------------------------------------------------------------------------
// Programming run

void Kestrin_ProFrame::OnButton_ProgramClick(wxCommandEvent&) {
    if (deviceBusy) return;
    FT_Purge(ftHandle, FT_PURGE_RX | FT_PURGE_TX);

    if (!AllCapCodesAccepted(ReadForm())) {
        Warn("Please ensure all Cap Codes are correct");
        return;
    }
    // A file can hold any number; only a carrier the transmitter can reach goes out.
    if (!IsProgrammableFreq(EEPROM.freq)) {
        Warn(
            "Please ensure the frequency is between 433.000 000 and 470.000 000 MHz and "
            "outside the unavailable band");
        return;
    }

    LoadFromForm();
    EEPROM.freqNum = FreqToSynthWord(EEPROM.freq);
    RunRequest request;
    request.cfg = EEPROM;
    request.manDownLvl = eeprom.cfg.ManDownLvl;
    request.manDownSamples = eeprom.cfg.ManDownSamples;
    const std::string dataFolder = UserDataFolder();
    if (!dataFolder.empty()) request.backupFolder = JoinPath(dataFolder, "backups");
    const Adapters adapters{ftHandle, connectedRead ? ftHandleRead : nullptr};

    // What the log says of this run, as the form stands now.
    LogEntry entry;
    entry.configuration = fileName.empty() ? std::string("unsaved")
                          : changeMade     ? fileName.utf8_string() + " (unsaved changes)"
                                           : fileName.utf8_string();
    const FormSnapshot form = ReadForm();
    for (int m = 0; m < kMsgCount; ++m) entry.capCodes[m] = CapCodeField(form.msg[m].id);
    entry.frequency = EEPROM.freq;

    auto report = std::make_shared<RunReport>();
    StartDeviceOperation(
        RunSteps(request, adapters.cable != nullptr), true,
        [=](const Progress& progress, const CancelFlag& cancel) {
            *report = ProgramAndVerify(
                adapters, request, crc_total, progress, cancel, [this](const std::string& why) {
                    return AskFromWorker(wxString::FromUTF8(why) +
                                         "\n\nProgram the transmitter anyway? What it holds now "
                                         "will be lost.");
                });
        },
        [this, report, entry] { ShowRunReport(*report, entry); });
}

bool Kestrin_ProFrame::AskFromWorker(const wxString& question) {
    RunningOperation* op = operation.get();
    {
        std::lock_guard<std::mutex> lock(op->askLock);
        op->answer.reset();
    }
    CallAfter([this, op, question] {
        const bool yes = kestrin_ui::MessageBox(question, "Please confirm",
                                                wxYES_NO | wxICON_QUESTION, this) == wxYES;
        {
            std::lock_guard<std::mutex> lock(op->askLock);
            op->answer = yes;
        }
        op->asked.notify_all();
    });
    std::unique_lock<std::mutex> lock(op->askLock);
    op->asked.wait(lock, [op] { return op->answer.has_value() || op->cancel; });
    return op->answer.value_or(false);
}

void Kestrin_ProFrame::ShowRunReport(const RunReport& report, const LogEntry& prepared) {
    const std::time_t now = std::time(nullptr);
    NoticeKind kind = NoticeKind::Trouble;
    bool warn = true;
    switch (report.verdict) {
        case Verdict::Verified:
            kind = NoticeKind::Good;
            warn = false;
            break;
        case Verdict::NotVerified:
        case Verdict::VerifyCancelled:
            kind = NoticeKind::Warning;
            warn = false;
            break;
        case Verdict::VerifyNoReply:
        case Verdict::VerifyIncomplete:
            kind = NoticeKind::Warning;
            break;
        case Verdict::Cancelled:
            // Stopped before anything was sent: the operator chose so.
            warn = report.run.packet != kStartPacket;
            break;
        default:
            break;
    }
    // "Programmed and verified at 13:45:01." / "Sent but not verified at 13:45:01: no ..."
    wxString summary = wxString::FromUTF8(VerdictSummary(report));
    const wxString at = " at " + wxString(ClockTime(now));
    const int colon = summary.Find(':');
    summary = colon == wxNOT_FOUND ? summary + at : summary.Left(colon) + at + summary.Mid(colon);
    ShowNotice(summary + ".", kind);

    LogEntry entry = prepared;
    entry.when = now;
    entry.outcome = LogOutcome(report);
    entry.transmitter = report.transmitterInfo;
    entry.backup = FileNameOf(report.backupPath);
    std::string error;
    const std::string folder = UserDataFolder();
    const bool logged = AppendToLog(folder, entry, &error);

    // Texts of the transmitter and the form are 8-bit; file names are UTF-8.
    if (warn) Warn(kestrin_ui::Widen(VerdictDetails(report)));
    if (!logged && !logProblemShown) {
        logProblemShown = true;
        Warn("The programming log could not be written, so this run is not recorded:\n" +
             wxString::FromUTF8(error) + "\nProgramming is not affected.");
    }
}

void Kestrin_ProFrame::ShowNotice(const wxString& text, NoticeKind kind) {
    const wxColour background = kind == NoticeKind::Good      ? wxColour(212, 237, 218)
                                : kind == NoticeKind::Warning ? wxColour(255, 236, 179)
                                                              : wxColour(248, 215, 218);
    Panel_Notice->SetBackgroundColour(background);
    StaticText_Notice->SetForegroundColour(wxColour(33, 37, 41));
    // The text decides the height: the size fixed at construction was for none.
    StaticText_Notice->SetMinSize(wxDefaultSize);
    StaticText_Notice->SetLabel(text);
    const int width = Panel9->GetClientSize().x - 2 * 5 - 2 * 6;
    StaticText_Notice->Wrap(std::max(width, 60));
    StaticText_Notice->InvalidateBestSize();
    // The panel takes a Tab stop; a screen reader then reads the notice.
    kestrin_ui::SetAccessibleName(Panel_Notice, text);
    Panel_Notice->Show();
    Panel9->Layout();
    Panel_Notice->Refresh();
}

void Kestrin_ProFrame::HideNotice() {
    if (!Panel_Notice->IsShown()) return;
    Panel_Notice->Hide();
    Panel9->Layout();
}

// ---------------------------------------------------------------------------
// Read-back

void Kestrin_ProFrame::OnButton_ReadClick(wxCommandEvent&) {
    if (deviceBusy) return;
    // The requests travel through the shoe; without it they would go nowhere.
    if (!connected) {
        Warn(
            "The programming shoe is not connected: the read requests go out through it.\n"
            "Connect the shoe, then read again.");
        return;
    }
    const Adapters adapters{ftHandle, ftHandleRead};
    auto result = std::make_shared<ReadBackResult>();
    StartDeviceOperation(
        2, true,
        [=](const Progress& progress, const CancelFlag& cancel) {
            *result = ReadBack(adapters, crc_total, progress, cancel);
        },
        [this, result] {
            if (result->infoArrived)
                TextCtrl_Info->ChangeValue(kestrin_ui::Widen(result->infoText));
            if (!result->outcome.ok()) {
                Warn(ReadMessage(result->outcome));
                return;
            }
            std::copy(result->image->begin(), result->image->end(), eeprom.raw);
            FormSnapshot form = ReadForm();
            DecodeImage(eeprom, form);
            uint32_t steps = 0;
            SynthWordToFreq(eeprom.cfg.TxF0, eeprom.cfg.TxF1, eeprom.cfg.TxF2, &steps);
            EEPROM.freqNum = steps;
            ApplyForm(form, true);
            ReplayLoaderNotifications(true);
        });
}

// ---------------------------------------------------------------------------
// Engineering commands

void Kestrin_ProFrame::SendCommand(const Bytes& payload) {
    if (deviceBusy) return;
    const Adapters adapters{ftHandle, ftHandleRead};
    auto outcome = std::make_shared<Outcome>();
    StartDeviceOperation(
        1, false,
        [=](const Progress&, const CancelFlag&) {
            *outcome = kestrin::SendCommand(adapters, payload, crc_total);
        },
        [this, outcome] {
            if (!outcome->ok()) Warn(CommandMessage(*outcome));
        });
}

void Kestrin_ProFrame::OnButton_StatusClick(wxCommandEvent&) { SendCommand({'S'}); }
void Kestrin_ProFrame::OnButton_CaliClick(wxCommandEvent&) { SendCommand({'C'}); }
void Kestrin_ProFrame::OnButton_ResetClick(wxCommandEvent&) { SendCommand({'R'}); }
void Kestrin_ProFrame::OnButton_SpaceClick(wxCommandEvent&) { SendCommand({'T', '0'}); }
void Kestrin_ProFrame::OnButton_MarkClick(wxCommandEvent&) { SendCommand({'T', '1'}); }
void Kestrin_ProFrame::OnButton_Preamble512Click(wxCommandEvent&) { SendCommand({'T', '2'}); }
void Kestrin_ProFrame::OnButton_Preamble1200Click(wxCommandEvent&) { SendCommand({'T', '3'}); }
void Kestrin_ProFrame::OnButton_Preamble2400Click(wxCommandEvent&) { SendCommand({'T', '4'}); }

void Kestrin_ProFrame::OnButton_FreqProgramClick(wxCommandEvent&) {
    const int8_t freqAdjust = static_cast<int8_t>(Slider_Freq->GetValue());
    SendCommand({'F', static_cast<uint8_t>(freqAdjust)});
}
