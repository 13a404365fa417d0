// The start routine: hands the application factory and the command line to the platform.

#include "Osp/App/Application.h"
#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/String.h"
#include "app/Corvane.h"

int OspMain(int argc, char* argv[]) {
    Osp::Base::Collection::ArrayList args;
    args.Construct(10);
    for (int i = 0; i < argc; ++i) {
        Osp::Base::String* arg = new Osp::Base::String;
        for (const char* p = argv[i]; *p != '\0'; ++p) {
            arg->Append(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
        }
        args.Add(arg);
    }
    Osp::Base::result r = Osp::App::Application::Execute(Corvane::CreateInstance, &args);
    args.RemoveAll(true);
    return static_cast<unsigned short>(r);
}
