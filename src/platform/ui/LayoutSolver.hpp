#pragma once

// The constraint solver behind View::layoutIfNeeded().

namespace telvora {
class View;
namespace detail {

// Places every view below `root` whose autoresizing-mask translation is off
// by its active constraints. Views are visited parents first, in child
// order; since a view may refer to a sibling placed later, the visit is
// repeated until no frame changes (at most once more than there are views).
void solveLayout(View& root);

}  // namespace detail
}  // namespace telvora
