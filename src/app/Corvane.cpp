#include "app/Corvane.h"

Osp::App::Application* Corvane::CreateInstance() { return new Corvane; }

Corvane* Corvane::GetMyInstance() { return static_cast<Corvane*>(Osp::App::Application::GetInstance()); }

bool Corvane::OnAppInitializing(Osp::App::AppRegistry&) { return true; }

bool Corvane::OnAppTerminating(Osp::App::AppRegistry&, bool) { return true; }
