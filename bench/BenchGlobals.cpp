// The program's globals, for the benchmarks: the link starts on a recording port so that no
// benchmark reaches a real serial device by accident.
#include "link/SerialLink.h"
#include "testing/RecordingCommPort.h"

CSerialLink g_link{std::make_shared<CRecordingCommPort>()};
