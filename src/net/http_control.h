#pragma once

// Process-wide controls of the HTTP routine: the UI event pump it runs while it waits on the
// UI thread, and the stop request used at exit.

#include <functional>

namespace net {

// Installs the function that processes pending window events and records the calling thread
// as the UI thread. HttpFetch calls it at least every 20 ms while it waits on that thread and
// never on another thread. An empty function removes the pump.
void SetUiEventPump(std::function<void()> pump);

// Runs the pump when called on the UI thread; does nothing elsewhere.
void PumpUiEventsIfUiThread();

bool IsUiThread();

// Asks every transfer in flight, and every later one, to stop as soon as possible; they
// end as failures. Used when the process ends.
void RequestStopAllTransfers();
void ResetStopRequest();
bool StopRequested();

}  // namespace net
