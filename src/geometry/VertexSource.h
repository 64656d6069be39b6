#pragma once

namespace lumo {

// A shape read one vertex at a time, in the manner of AGG's vertex sources:
// rewind, then call vertex until it returns path_cmd_stop. Commands are AGG
// path_commands_e values combined with path_flags_e; a command that carries no
// vertex (stop, end_poly) leaves *x and *y untouched.
//
// Shapes are small values built on the stack for one drawing call and are
// never deleted through this interface, hence the protected destructor.
class VertexSource {
public:
    // Restarts the path. Every shape has a single path and ignores pathId.
    virtual void rewind(unsigned pathId) = 0;
    virtual unsigned vertex(double* x, double* y) = 0;
    // True when the path contains curve3/curve4 commands that need flattening.
    virtual bool has_curves() const = 0;

protected:
    ~VertexSource() = default;
};

}  // namespace lumo
