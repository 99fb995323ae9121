#include "control/BoardSerials.h"

#include "control/ProgrammingSession.h"

GivenSerial GiveSerialNumber(ProgrammingSession& session, const BoardSerials& serials) {
    GivenSerial given;
    if (!session.Image()) {
        given.placeRefused = true;
        given.failure = kNoImageForSerialNumber;
        return given;
    }
    given.landing = LandSerialNumber(*session.Image(), serials.place);
    if (!given.landing.Lands()) {
        given.placeRefused = true;
        given.failure = given.landing.refusal;
        return given;
    }
    std::string reason;
    given.number = serials.stock.Take(reason);
    if (!given.number) {
        given.failure = "no serial number: " + reason;
        return given;
    }
    given.landing = session.PlaceSerialNumber(serials.place, *given.number);
    if (!given.landing.Lands()) given.failure = given.landing.refusal;
    return given;
}

std::optional<ReturnedSerial> ReturnSerialNumber(const BoardSerials& serials,
                                                 std::uint64_t number) {
    if (!serials.reuseOnFail) return std::nullopt;
    ReturnedSerial returned;
    std::string reason;
    returned.givenBack = serials.stock.GiveBack(number, reason);
    returned.text = "serial number " + std::to_string(number) +
                    (returned.givenBack ? " given back" : " not given back: " + reason);
    return returned;
}
