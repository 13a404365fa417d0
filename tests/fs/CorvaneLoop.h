#pragma once
// Runs a test inside a running Corvane on the platform's real event loop. The start function runs from a
// posted event once the loop is live; the loop runs until the test calls Quit() or the time-out fires.
// Shared by the file-system and application tests.

#include <functional>

#include "Osp/App/Application.h"
#include "Osp/Base/Runtime/Timer.h"
#include "app/Corvane.h"
#include "app/IUserEventHandler.h"

class CorvaneLoop {
public:
    // True when the test ended with Quit(), false on time-out.
    static bool Run(std::function<void()> start, int timeoutMs = 10000) {
        State& state = GetState();
        state.start = std::move(start);
        state.timeoutMs = timeoutMs;
        state.timedOut = false;
        Osp::App::Application::Execute([]() -> Osp::App::Application* { return new TestCorvane; }, nullptr);
        state.start = nullptr;
        return !state.timedOut;
    }

    static void Quit() { Osp::App::Application::GetInstance()->Terminate(); }

private:
    struct State {
        std::function<void()> start;
        int timeoutMs = 0;
        bool timedOut = false;
    };
    static State& GetState() {
        static State state;
        return state;
    }

    class TestCorvane : public Corvane,
                        public IUserEventHandler,
                        public Osp::Base::Runtime::ITimerEventListener {
    public:
        bool OnAppInitializing(Osp::App::AppRegistry& registry) override {
            if (!Corvane::OnAppInitializing(registry)) {
                return false;
            }
            timer_.Construct(*this);
            timer_.Start(GetState().timeoutMs);
            PostUserEvent(this, 0);
            return true;
        }
        void OnUserEvent(int) override { GetState().start(); }
        void OnUserEventEx(UserEvent*) override {}
        void OnTimerExpired(Osp::Base::Runtime::Timer&) override {
            GetState().timedOut = true;
            Terminate();
        }

    private:
        Osp::Base::Runtime::Timer timer_;
    };
};
