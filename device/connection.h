// Finding and opening the programming shoe and the read cable once, as the
// window's connection monitor does on its ticks, for front ends that run one
// operation and end (the command-line tool). Also what it saw of every
// adapter, in plain words, for telling a person why one is not used.
#pragma once

#include <string>
#include <vector>

#include "device/operations.h"

namespace kestrin {

struct AdapterSeen {
    std::string serial, description;
    enum class Role { None, Shoe, Cable } role = Role::None;
    std::string problem;  // why it is not used, empty when it is
};

struct Connection {
    Adapters handles;         // null where none could be opened
    std::string shoeVersion;  // as the window shows it; empty without a reply
    std::vector<AdapterSeen> seen;
    std::string backend;  // which way the adapters are reached
};

// The adapters the backend lists now, by index, with their serial number and
// description as the driver reports them.
struct Listed {
    DWORD index;
    std::string serial, description;
};
std::vector<Listed> ListAdapters();

// Opens the first accepted shoe (19200 8N1, version asked) and the read cable
// (115200 8N1). Every listed adapter is reported with its role or problem.
Connection Connect();

// Closes what Connect opened.
void Disconnect(Connection& connection);

// The two accepted shoes in words, for a person choosing one.
std::string AcceptedShoes();

}  // namespace kestrin
