#include "platform/session/session_keyboard_target.h"

#include <gtest/gtest.h>

#include "support/recording_keyboard_target.h"

namespace tastalo::test {
namespace {

using platform::RecordingKeyboardTarget;
using platform::session::Backend;
using platform::session::backendsFor;
using platform::session::SessionKeyboardTarget;
using Kind = RecordingKeyboardTarget::Call::Kind;

TEST(SessionBackends, X11ComesFirstWhereBothExistAndTheChosenOneStandsAlone) {
    using V = std::vector<Backend>;
    EXPECT_EQ(backendsFor(":0", nullptr, nullptr), V{Backend::X11});
    EXPECT_EQ(backendsFor(":0", "wayland-1", nullptr), (V{Backend::X11, Backend::Wayland}));
    EXPECT_EQ(backendsFor("", "wayland-1", nullptr), V{Backend::Wayland});
    EXPECT_EQ(backendsFor(nullptr, nullptr, nullptr), V{Backend::X11});
    EXPECT_EQ(backendsFor(":0", "wayland-1", "wayland"), V{Backend::Wayland});
    EXPECT_EQ(backendsFor(nullptr, "wayland-1", "x11"), V{Backend::X11});
}

// X11 first, then Wayland; each backend a recording stand-in whose
// activation answers as told.
struct Session {
    RecordingKeyboardTarget* x11 = nullptr;
    RecordingKeyboardTarget* wayland = nullptr;
    SessionKeyboardTarget target;

    Session(platform::Status x11Answer, platform::Status waylandAnswer,
            platform::TitleMatch x11Sees = platform::TitleMatch::Exact,
            platform::TitleMatch waylandSees = platform::TitleMatch::Exact)
        : target({Backend::X11, Backend::Wayland}, [=, this](Backend backend) {
              auto made = std::make_unique<RecordingKeyboardTarget>();
              made->failOn(Kind::Activate, 0, backend == Backend::X11 ? x11Answer : waylandAnswer);
              made->sees(backend == Backend::X11 ? x11Sees : waylandSees);
              (backend == Backend::X11 ? x11 : wayland) = made.get();
              return made;
          }) {}
};

TEST(SessionKeyboardTarget, AWindowX11CannotSeeOrBringToTheFrontIsTypedIntoThroughWayland) {
    for (const std::int32_t x11Code : {platform::kTargetOutOfReach, platform::kTargetNotActivated}) {
        Session session(platform::failure(x11Code, U"Korvedo"), platform::Status::success());
        ASSERT_TRUE(session.target.activate(U"Korvedo").ok()) << x11Code;
        ASSERT_TRUE(session.target.typeText(U"123").ok());
        EXPECT_EQ(session.wayland->received(), U"123");
        EXPECT_EQ(session.x11->received(), U"");
        // What the backend that types says of its watch is the session's.
        session.wayland->refuseWatch();
        EXPECT_TRUE(session.target.deliveryUnwatched());
    }
}

TEST(SessionKeyboardTarget, AnExactTitleOnlyWaylandSeesWinsOverABeginningX11Sees) {
    using platform::TitleMatch;
    Session session(platform::Status::success(), platform::Status::success(), TitleMatch::Beginning,
                    TitleMatch::Exact);
    ASSERT_TRUE(session.target.activate(U"Korvedo").ok());
    ASSERT_TRUE(session.target.typeText(U"1").ok());
    EXPECT_EQ(session.wayland->received(), U"1");
    EXPECT_EQ(session.x11->count(Kind::Activate), 0);

    Session same(platform::Status::success(), platform::Status::success(), TitleMatch::Exact,
                 TitleMatch::Exact);
    ASSERT_TRUE(same.target.activate(U"Korvedo").ok());
    EXPECT_EQ(same.wayland->count(Kind::Activate), 0);
}

TEST(SessionKeyboardTarget, TheMostTellingFailureIsTheOneReported) {
    using platform::failure;
    // X11 saw the window: Wayland's failure to reach it adds nothing.
    Session notActivated(failure(platform::kTargetNotActivated, U"K"), failure(platform::kTargetOutOfReach));
    EXPECT_EQ(notActivated.target.activate(U"K").code, platform::kTargetNotActivated);
    // X11 found no window at all: Wayland is not asked.
    Session closed(failure(platform::kTargetWindowMissing, U"K"), platform::Status::success());
    EXPECT_EQ(closed.target.activate(U"K").code, platform::kTargetWindowMissing);
    EXPECT_EQ(closed.wayland->count(Kind::Activate), 0);
    // Wayland saw every window and none has the title.
    Session missing(failure(platform::kTargetOutOfReach, U"K"),
                    failure(platform::kTargetWindowMissing, U"K"));
    EXPECT_EQ(missing.target.activate(U"K").code, platform::kTargetWindowMissing);
    // The compositor offers no way in: X11's answer stands.
    Session noWay(failure(platform::kTargetOutOfReach, U"K"), failure(platform::kTargetOutOfReach));
    const platform::Status status = noWay.target.activate(U"K");
    EXPECT_EQ(status.code, platform::kTargetOutOfReach);
    EXPECT_EQ(status.subject, U"K");
    EXPECT_EQ(noWay.target.typeText(U"1").code, platform::kTargetWindowMissing);
    // Out of X11's reach with X11 alone by the operator's setting: the
    // setting is what stops it.
    SessionKeyboardTarget x11Only(
        {Backend::X11},
        [](Backend) {
            auto made = std::make_unique<RecordingKeyboardTarget>();
            made->failOn(Kind::Activate, 0, failure(platform::kTargetOutOfReach, U"K"));
            return made;
        },
        true);
    const platform::Status bySetting = x11Only.activate(U"K");
    EXPECT_EQ(bySetting.code, platform::kOutOfReachBySetting);
    EXPECT_EQ(bySetting.subject, U"K");
}

}  // namespace
}  // namespace tastalo::test
