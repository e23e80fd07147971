#include "device/connection.h"

#include <cstring>

#include "device/link.h"

namespace kestrin {

namespace {

std::string OpenProblem(FT_STATUS status) {
    std::string why = AdapterOpenProblem();
    if (!why.empty()) return why;
    if (status == FT_DEVICE_NOT_OPENED) return "it could not be opened: another program holds it";
    return "it could not be opened (status " + std::to_string(status) + ")";
}

}  // namespace

std::string AcceptedShoes() {
    return "serial KR123456 with description \"FT232R USB UART\", or serial FT123456 with "
           "description \"USB BASE PROGRAMMER\"";
}

std::vector<Listed> ListAdapters() {
    std::vector<Listed> out;
    DWORD count = 0;
    if (FT_CreateDeviceInfoList(&count) != FT_OK) return out;
    for (DWORD i = 0; i < count; ++i) {
        char serial[kFtSerialLen + 1] = {};
        char description[kFtDescriptionLen + 1] = {};
        DWORD flags = 0, type = 0, id = 0, location = 0;
        FT_HANDLE temp = nullptr;
        if (FT_GetDeviceInfoDetail(i, &flags, &type, &id, &location, serial, description, &temp) !=
            FT_OK)
            continue;
        out.push_back({i, std::string(serial, strnlen(serial, kFtSerialLen)),
                       std::string(description, strnlen(description, kFtDescriptionLen))});
    }
    return out;
}

Connection Connect() {
    Connection c;
    c.backend = AdapterBackendName();
    std::size_t cableAt = SIZE_MAX;
    for (const Listed& listed : ListAdapters()) {
        AdapterSeen seen;
        seen.serial = listed.serial;
        seen.description = listed.description;
        if (seen.description == kReadCableDescription) {
            seen.role = AdapterSeen::Role::Cable;  // opened by description below
            cableAt = c.seen.size();
        } else if (!IsProgrammingShoe(seen.serial, seen.description)) {
            seen.problem = "not an accepted programming shoe (accepted: " + AcceptedShoes() + ")";
        } else if (c.handles.shoe) {
            seen.problem = "another accepted shoe is already in use";
        } else {
            FT_HANDLE handle = nullptr;
            const FT_STATUS st = FT_Open(static_cast<int>(listed.index), &handle);
            if (st != FT_OK) {
                seen.problem = OpenProblem(st);
            } else {
                seen.role = AdapterSeen::Role::Shoe;
                c.handles.shoe = handle;
                SetLine(handle, 19200);
                Bytes reply;
                if (WriteAll(handle, kVersionQuery)) reply = ReadReply(handle, kInfoReplyCapacity);
                c.shoeVersion = ShoeVersionText(reply);
                if (reply.empty())
                    seen.problem =
                        "no version reply: the shoe took the query but did not answer; it is "
                        "used anyway";
            }
        }
        c.seen.push_back(seen);
    }

    FT_HANDLE cable = nullptr;
    char name[] = "TTL232R-3V3";
    const FT_STATUS st = FT_OpenEx(name, FT_OPEN_BY_DESCRIPTION, &cable);
    if (st == FT_OK) {
        c.handles.cable = cable;
        SetLine(cable, 115200);
    } else if (cableAt != SIZE_MAX) {
        c.seen[cableAt].role = AdapterSeen::Role::None;
        c.seen[cableAt].problem = OpenProblem(st);
    }
    return c;
}

void Disconnect(Connection& c) {
    if (c.handles.shoe) FT_Close(c.handles.shoe);
    if (c.handles.cable) FT_Close(c.handles.cable);
    c.handles = {};
}

}  // namespace kestrin
