// Device operations: connection monitor, packet layer, programming run,
// read-back and engineering commands. The bytes come from the wx-free core
// (device/, config/); this file only moves them and keeps the form in step.
#include <wx/app.h>

#include <algorithm>
#include <cstring>

#include "app/Kestrin_ProMain.h"
#include "app/keep_alive.h"
#include "app/ui_hooks.h"
#include "config/codes.h"
#include "config/decode.h"
#include "config/eeprom.h"
#include "config/encode.h"
#include "device/link.h"
#include "device/payloads.h"
#include "pages/frequency.h"

using namespace kestrin;

// While one device operation runs, no other can start: the device buttons,
// New and Open are disabled and the connection monitor stands aside, so no
// foreign packet can enter a run's CRC and no handle changes under it.
class DeviceOperation {
  public:
    explicit DeviceOperation(Kestrin_ProFrame* f) : frame(f) {
        frame->deviceBusy = true;
        for (wxWindow* w : Controls()) saved.push_back(w->IsEnabled());
        for (wxWindow* w : Controls()) w->Disable();
        newItem = frame->MenuItem1->IsEnabled();
        openItem = frame->MenuItem2->IsEnabled();
        frame->MenuItem1->Enable(false);
        frame->MenuItem2->Enable(false);
    }
    ~DeviceOperation() {
        const auto controls = Controls();
        for (size_t i = 0; i < controls.size(); ++i) controls[i]->Enable(saved[i]);
        frame->MenuItem1->Enable(newItem);
        frame->MenuItem2->Enable(openItem);
        frame->deviceBusy = false;
    }

  private:
    std::vector<wxWindow*> Controls() const {
        std::vector<wxWindow*> all{frame->Button_Program, frame->Button_Read};
        for (wxButton* b : frame->EngineeringButtons()) all.push_back(b);
        return all;
    }
    Kestrin_ProFrame* frame;
    std::vector<bool> saved;
    bool newItem = true, openItem = true;
};

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
        DWORD count = 0;
        if (FT_CreateDeviceInfoList(&count) == FT_OK) {
            for (DWORD i = 0; i < count; ++i) {
                char serial[kFtSerialLen + 1] = {};
                char description[kFtDescriptionLen + 1] = {};
                DWORD flags = 0, type = 0, id = 0, location = 0;
                FT_HANDLE temp = nullptr;
                if (FT_GetDeviceInfoDetail(i, &flags, &type, &id, &location, serial, description,
                                           &temp) != FT_OK)
                    continue;
                if (!IsProgrammingShoe(
                        std::string(serial, strnlen(serial, kFtSerialLen)),
                        std::string(description, strnlen(description, kFtDescriptionLen))))
                    continue;
                // A shoe that cannot be opened is not a connection; try again next tick.
                FT_HANDLE handle = nullptr;
                if (FT_Open(static_cast<int>(i), &handle) != FT_OK) continue;
                if (connected) FT_Close(ftHandle);  // a later match takes over
                connected = true;
                ftHandle = handle;
                // Display-only fields: written without marking the form as changed.
                TextCtrl_Connectionstatus->ChangeValue("CONNECTED");
                TextCtrl_Connectionstatus->SetBackgroundColour(wxColour(4, 255, 4));
                TextCtrl_Connectionstatus->Refresh();
                SetLine(ftHandle, 19200);
                Bytes reply;
                if (WriteAll(ftHandle, kVersionQuery))
                    reply = ReadReply(ftHandle, kInfoReplyCapacity);
                TextCtrl_ShoeVersion->ChangeValue(ShoeVersionText(reply));
                Button_Program->Enable();
            }
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
// Packet layer

bool Kestrin_ProFrame::SerialWrite(uint8_t type, Bytes output) {
    const Bytes frame = BuildFrame(type, output);
    crc_total.process_bytes(frame.data(), frame.size());
    const Bytes wire = Stuff(frame);
    if (!WriteAll(ftHandle, wire)) return false;
    Pause(PauseMs(wire.size()));
    return true;
}

bool Kestrin_ProFrame::SerialStart() {
    const bool ok = SerialWrite(kTypeRun, Bytes{'0'});
    crc_total.reset(0xFFFF);
    return ok;
}

bool Kestrin_ProFrame::SerialEnd() { return WriteAll(ftHandle, Stuff(BuildEndFrame(crc_total))); }

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
    DeviceOperation operation(this);

    Gauge_Transfer->SetRange(11);
    Gauge_Transfer->Show();
    Gauge_Transfer->SetValue(0);
    Gauge_Transfer->GetParent()->Layout();
    Refresh();
    Update();
    kestrin_ui::KeepWindowAlive();

    EEPROM.freqNum = FreqToSynthWord(EEPROM.freq);
    const auto payloads = RunPayloads(EEPROM, eeprom.cfg.ManDownLvl, eeprom.cfg.ManDownSamples);
    bool ok = SerialStart();
    for (int k = 1; ok && k <= kRunPackets; ++k) {
        ok = SerialWrite(kTypeRun, payloads[k - 1]);
        if (!ok) break;
        // Value 12 stands for the full bar; the gauge refuses values beyond its range.
        Gauge_Transfer->SetValue(std::min(k, Gauge_Transfer->GetRange()));
        Refresh();
        Update();
        kestrin_ui::KeepWindowAlive();
    }
    if (ok) ok = SerialEnd();

    Gauge_Transfer->Hide();
    Gauge_Transfer->GetParent()->Layout();
    if (!ok)
        Warn(
            "Programming did not complete: the programming shoe stopped taking data.\n"
            "Check the shoe and its cable, then program again.");
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
    DeviceOperation operation(this);

    FT_Purge(ftHandle, FT_PURGE_RX | FT_PURGE_TX);
    FT_Purge(ftHandleRead, FT_PURGE_RX | FT_PURGE_TX);
    if (!SerialWrite(kTypeCommand, Bytes{'D', '0'})) {
        Warn("The read request could not be sent: the programming shoe is not taking data.");
        return;
    }
    const Bytes info = ReadReply(ftHandleRead, kInfoReplyCapacity);
    if (info.empty()) {
        Warn("No connection established\nCheck Kestrin's power and probe");
        return;
    }
    TextCtrl_Info->ChangeValue(kestrin_ui::Widen(InfoText(info)));

    FT_Purge(ftHandle, FT_PURGE_RX | FT_PURGE_TX);
    FT_Purge(ftHandleRead, FT_PURGE_RX | FT_PURGE_TX);
    if (!SerialWrite(kTypeCommand, Bytes{'D', '1'})) {
        Warn("The read request could not be sent: the programming shoe is not taking data.");
        return;
    }
    const auto image = ExtractImage(ReadReply(ftHandleRead, kImageReplyCapacity));
    if (!image) {
        Warn(
            "The transmitter's reply was incomplete: nothing was loaded.\n"
            "Check Kestrin's power and probe, then read again.");
        return;
    }

    std::copy(image->begin(), image->end(), eeprom.raw);
    FormSnapshot form = ReadForm();
    DecodeImage(eeprom, form);
    uint32_t steps = 0;
    SynthWordToFreq(eeprom.cfg.TxF0, eeprom.cfg.TxF1, eeprom.cfg.TxF2, &steps);
    EEPROM.freqNum = steps;
    ApplyForm(form, true);
    ReplayLoaderNotifications(true);
}

// ---------------------------------------------------------------------------
// Engineering commands

void Kestrin_ProFrame::SendCommand(const Bytes& payload) {
    if (deviceBusy) return;
    DeviceOperation operation(this);
    if (!SerialWrite(kTypeCommand, payload))
        Warn("The command was not sent: the programming shoe is not taking data.");
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
