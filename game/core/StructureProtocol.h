#pragma once

// A container of other objects that can be taken down as a whole.
class StructureProtocol {
public:
    virtual ~StructureProtocol() = default;
    virtual void destroy() = 0;
};
