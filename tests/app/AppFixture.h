#pragma once

#include "about/AboutUnit.h"
#include "app/ParlinoUnit.h"
#include "app/Startup.h"
#include "platform/fake/FakeMailslotService.h"
#include "platform/fake/qt/FakeServices.h"
#include "settings/OptiuniUnit.h"
#include "transport/MailSlot.h"

#include <gtest/gtest.h>
#include <memory>

namespace parlino::test {

// The in-memory mailslot service, made before the services that refer to it.
struct FakeMailslots
{
    fake::FakeMailslotService mailslots;
};

// Every service as a fake, and the three long-lived forms made from them the way start-up makes them.
class AppFixture : public ::testing::Test, protected FakeMailslots, protected fake::FakeServices
{
protected:
    AppFixture() : fake::FakeServices(mailslots) {}

    // Tests that need the forms call this after arranging the fakes.
    void CreateForms() { parlino::CreateForms(services); }
    void TearDown() override { DestroyForms(); }

    Platform& services = platform;
};

} // namespace parlino::test
