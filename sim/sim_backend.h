// The adapter backend over the simulated shoe, read cable and transmitter.
#pragma once

#include <memory>

#include "device/ftdi.h"
#include "sim/transmitter.h"

namespace kestrin::sim {

// Reads never wait unless the model is set to real time, in which case a
// read that comes up short waits the handle's read timeout.
std::unique_ptr<AdapterBackend> MakeSimulatorBackend(std::shared_ptr<Simulator> model);

// Makes a simulator over a fresh model the active backend; returns the model.
Simulator& InstallSimulatorBackend();

// The model of the simulator backend installed last (before any, a fresh
// model that no backend uses yet). Tests and the application drive the
// simulated hardware through it.
Simulator& SimulatorModel();

}  // namespace kestrin::sim
