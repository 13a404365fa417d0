#pragma once

namespace Osp::Base {

// Root of the platform's object classes: lists hold and delete objects through it.
class Object {
public:
    Object() = default;
    virtual ~Object() = default;
};

}  // namespace Osp::Base
