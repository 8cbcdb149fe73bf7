#pragma once
// The engine's notices to the main form, delivered synchronously (never posted, so they
// cannot overtake or trail the exchange they describe).
namespace pollard {

enum LinkStatus : int { kStatusOffline = 0, kStatusIdle = 1, kStatusSending = 2, kStatusReceiving = 3, kStatusNoResponse = 4 };

void SendStatus(int status);                 // WM_COMM_STATUS, wParam status, lParam 0
void SendProgress(int done);                 // WM_COMM_PROGRESS, wParam done, lParam 1

}  // namespace pollard
