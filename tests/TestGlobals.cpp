// The program's globals, for the tests. The link starts on a recording port so that no test
// can reach a real serial device by accident; tests that need one hand it in explicitly.
#include "link/SerialLink.h"
#include "testing/RecordingCommPort.h"

CSerialLink g_link{std::make_shared<CRecordingCommPort>()};
