#pragma once
// The shared catalogue harness under the names the tests of other folders use.

#include "control_fixture.h"

using vok::test::CatalogueFixture;
using vok::test::LoadableArticle;
