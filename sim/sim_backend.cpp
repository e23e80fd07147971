#include "sim/sim_backend.h"

#include <chrono>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

namespace kestrin::sim {

namespace {

struct SimHandle {
    Simulator::DeviceRef device;
    unsigned generation;
    ULONG readTimeoutMs = 0;
    FTDCB dcb{};
};

FTDCB DefaultDcb() {
    FTDCB d{};
    d.DCBlength = sizeof(FTDCB);
    d.BaudRate = 9600;
    d.Flags = 1;  // fBinary
    d.ByteSize = 8;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    return d;
}

void CopyOut(const std::string& text, void* out, std::size_t size) {
    if (!out) return;
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    static_cast<char*>(out)[n] = '\0';
}

class SimulatorBackend : public AdapterBackend {
  public:
    explicit SimulatorBackend(std::shared_ptr<Simulator> model) : model_(std::move(model)) {}

    const char* Name() const override { return "simulator"; }

    FT_STATUS CreateDeviceInfoList(DWORD* numDevs) override {
        list_ = model_->Enumerate();
        listed_ = true;
        if (numDevs) *numDevs = static_cast<DWORD>(list_.size());
        return FT_OK;
    }

    FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* locId,
                                  void* serialNumber, void* description,
                                  FT_HANDLE* handle) override {
        if (index >= list_.size() || !model_->Plugged(list_[index])) return FT_DEVICE_NOT_FOUND;
        const Simulator::DeviceRef dev = list_[index];
        FT_HANDLE open = OpenHandleOf(dev);
        if (flags) *flags = open ? 1 : 0;
        if (type) *type = 5;
        if (id) *id = 0x04036001;
        if (locId) *locId = static_cast<DWORD>(0x100 + dev);
        CopyOut(model_->Info(dev).serial, serialNumber, kFtSerialLen);
        CopyOut(model_->Info(dev).description, description, kFtDescriptionLen);
        if (handle) *handle = open;
        return FT_OK;
    }

    FT_STATUS Open(int index, FT_HANDLE* handle) override {
        if (!listed_) list_ = model_->Enumerate();
        listed_ = true;
        if (index < 0 || static_cast<std::size_t>(index) >= list_.size())
            return FT_DEVICE_NOT_FOUND;
        return OpenDevice(list_[index], handle);
    }

    FT_STATUS OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) override {
        if (!arg || (flags != FT_OPEN_BY_DESCRIPTION && flags != FT_OPEN_BY_SERIAL_NUMBER))
            return FT_INVALID_PARAMETER;
        const std::string wanted(static_cast<const char*>(arg));
        for (Simulator::DeviceRef dev : model_->Enumerate()) {
            const DeviceInfo& info = model_->Info(dev);
            if ((flags == FT_OPEN_BY_DESCRIPTION ? info.description : info.serial) == wanted)
                return OpenDevice(dev, handle);
        }
        return FT_DEVICE_NOT_FOUND;
    }

    BOOL GetCommState(FT_HANDLE handle, FTDCB* dcb) override {
        SimHandle* h = Alive(handle);
        if (!h || !dcb) return 0;
        *dcb = h->dcb;
        return 1;
    }

    BOOL SetCommState(FT_HANDLE handle, FTDCB* dcb) override {
        SimHandle* h = Alive(handle);
        if (!h || !dcb) return 0;
        h->dcb = *dcb;
        return 1;
    }

    FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs, ULONG) override {
        SimHandle* h = Lookup(handle);
        if (!h) return FT_INVALID_HANDLE;
        if (!Alive(handle)) return FT_IO_ERROR;
        h->readTimeoutMs = readTimeoutMs;
        return FT_OK;
    }

    FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* got) override {
        *got = 0;
        SimHandle* h = Lookup(handle);
        if (!h) return FT_INVALID_HANDLE;
        if (!Alive(handle)) return FT_IO_ERROR;
        *got = static_cast<DWORD>(model_->Read(h->device, static_cast<uint8_t*>(buffer), toRead));
        if (*got < toRead && model_->RealTime() && h->readTimeoutMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(h->readTimeoutMs));
        return FT_OK;
    }

    FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) override {
        *written = 0;
        SimHandle* h = Lookup(handle);
        if (!h) return FT_INVALID_HANDLE;
        if (!Alive(handle)) return FT_IO_ERROR;
        const Simulator::WriteResult r =
            model_->Write(h->device, static_cast<const uint8_t*>(buffer), toWrite);
        *written = static_cast<DWORD>(r.accepted);
        if (r.ok) return FT_OK;
        return r.accepted == 0 ? FT_IO_ERROR : FT_OTHER_ERROR;
    }

    FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rxQueue, DWORD* txQueue, DWORD* events) override {
        SimHandle* h = Lookup(handle);
        if (!h) return FT_INVALID_HANDLE;
        if (!Alive(handle)) return FT_IO_ERROR;
        *rxQueue = static_cast<DWORD>(model_->Queued(h->device));
        *txQueue = 0;
        *events = 0;
        return FT_OK;
    }

    FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override {
        SimHandle* h = Lookup(handle);
        if (!h) return FT_INVALID_HANDLE;
        if (!Alive(handle)) return FT_IO_ERROR;
        if (mask & FT_PURGE_RX) model_->PurgeReceive(h->device);
        return FT_OK;
    }

    FT_STATUS Close(FT_HANDLE handle) override {
        return handles_.erase(handle) ? FT_OK : FT_INVALID_HANDLE;
    }

  private:
    SimHandle* Lookup(FT_HANDLE handle) {
        auto it = handles_.find(handle);
        return it == handles_.end() ? nullptr : it->second.get();
    }

    // A handle whose device is still the one it was opened on.
    SimHandle* Alive(FT_HANDLE handle) {
        SimHandle* h = Lookup(handle);
        if (!h || !model_->Plugged(h->device) || model_->Generation(h->device) != h->generation)
            return nullptr;
        return h;
    }

    FT_HANDLE OpenHandleOf(Simulator::DeviceRef dev) {
        for (auto& entry : handles_)
            if (entry.second->device == dev && Alive(entry.first)) return entry.first;
        return nullptr;
    }

    FT_STATUS OpenDevice(Simulator::DeviceRef dev, FT_HANDLE* handle) {
        if (!model_->Plugged(dev)) return FT_DEVICE_NOT_FOUND;
        // Like the vendor driver: one open handle per device.
        if (OpenHandleOf(dev)) return FT_DEVICE_NOT_OPENED;
        auto h =
            std::make_unique<SimHandle>(SimHandle{dev, model_->Generation(dev), 0, DefaultDcb()});
        FT_HANDLE key = h.get();
        handles_[key] = std::move(h);
        if (handle) *handle = key;
        return FT_OK;
    }

    std::shared_ptr<Simulator> model_;
    std::vector<Simulator::DeviceRef> list_;
    bool listed_ = false;
    std::map<FT_HANDLE, std::unique_ptr<SimHandle>> handles_;
};

std::shared_ptr<Simulator>& CurrentModel() {
    static std::shared_ptr<Simulator> model = std::make_shared<Simulator>();
    return model;
}

}  // namespace

std::unique_ptr<AdapterBackend> MakeSimulatorBackend(std::shared_ptr<Simulator> model) {
    return std::make_unique<SimulatorBackend>(std::move(model));
}

Simulator& InstallSimulatorBackend() {
    CurrentModel() = std::make_shared<Simulator>();
    SetAdapterBackend(MakeSimulatorBackend(CurrentModel()));
    return *CurrentModel();
}

Simulator& SimulatorModel() { return *CurrentModel(); }

}  // namespace kestrin::sim
