#pragma once
// The embedded host with the test toolkit as its forms library, connected as the
// add-in's XlApp while it lives.

#include "addin/frame/Public_XlApp.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/HostServices.h"
#include "tests/support/FakeHost.h"

namespace vorra::testing {

class EngineHostForTests {
public:
    EngineHostForTests() { previous_ = std::exchange(XlApp, &app); }
    ~EngineHostForTests() {
        for (auto& form : tk.liveForms()) form->unload();
        XlApp = previous_;
    }

    FakeToolkit tk;

private:
    struct Services : engine::HostServices {
        explicit Services(FakeToolkit& t) : tk(t) {}
        dialogs::Toolkit* toolkit() override { return &tk; }
        FakeToolkit& tk;
    };
    Services services_{tk};

public:
    engine::EngineApplication app{"16.0", &services_};

private:
    host::Application* previous_ = nullptr;
};

}  // namespace vorra::testing
