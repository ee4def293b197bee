// What a console under test transmits through: a link on a fresh recording port, with the
// snapshot and the worker that carry its levels there.
#pragma once

#include "link/SerialLink.h"
#include "testing/RecordingCommPort.h"
#include "transmit/Transmit.h"

#include <memory>

struct CRecordedTransmission {
    std::shared_ptr<CRecordingCommPort> port = std::make_shared<CRecordingCommPort>();
    CSerialLink link{port};
    TransmitSnapshot snapshot;
    CTransmitWorker worker{link, snapshot};
};
