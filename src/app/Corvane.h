#pragma once
// The application object: starts the system and owns what lives for the whole run. Everything here runs
// on the user-interface thread.

#include "Osp/App/Application.h"

class Corvane : public Osp::App::Application {
public:
    static Osp::App::Application* CreateInstance();
    static Corvane* GetMyInstance();

    bool OnAppInitializing(Osp::App::AppRegistry& registry) override;
    bool OnAppTerminating(Osp::App::AppRegistry& registry, bool urgentTermination = false) override;
};
