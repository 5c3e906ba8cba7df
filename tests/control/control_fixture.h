#pragma once
// The shared control harness under the names the tests of other folders use.

#include "control_harness.h"

using vok::test::ControlFixture;
using vok::test::EventLog;
