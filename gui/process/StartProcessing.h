// The start of a processing session from what the Main Interface holds: the
// three fields in Single File mode, every row of the selection list in
// Multiple Files mode. Constructions are built the way the host's choice
// says. Reconstructions first look for originals that are no longer where
// the difference files say.
#pragma once

class CMainScreen;
class CProcessHost;
class CProcessView;

// True when a session was started. Every failure has been told to the user.
bool StartProcessingSession(CMainScreen& screen, CProcessView& view, CProcessHost& host);
