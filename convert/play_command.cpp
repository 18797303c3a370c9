// --play SHOW --to DEVICE: the player's options read and checked, then the show played (play.h).
#include <QCoreApplication>

#include "convert/options.h"
#include "convert/play.h"

namespace convert {

int RunPlay(const Parser& p, QTextStream& err) {
    if (p.parser.isSet(p.convert)) {
        return UsageError(
            err, QCoreApplication::translate("convert", "--play и --convert не задаются вместе"));
    }
    if (!p.parser.positionalArguments().isEmpty()) {
        return UsageError(err, QCoreApplication::translate(
                                   "convert", "--play принимает один показ, указанный после него"));
    }
    PlayOptions options;
    options.file = p.parser.value(p.play);
    const auto target = output::ParseTarget(p.parser.value(p.to));
    if (!target) {
        return UsageError(
            err, QCoreApplication::translate(
                     "convert",
                     "--play нужен --to idn:HOST[:PORT] или etherdream:HOST[:PORT], а не «%1»")
                     .arg(p.parser.value(p.to)));
    }
    options.target = *target;
    bool number = true;
    if (p.parser.isSet(p.pps)) {
        options.pointRate = p.parser.value(p.pps).toInt(&number);
        if (!number || options.pointRate < model::stage::kMinPointRate ||
            options.pointRate > model::stage::kMaxPointRate) {
            return UsageError(err, QCoreApplication::translate(
                                       "convert", "--pps принимает от %1 до %2, а не «%3»")
                                       .arg(model::stage::kMinPointRate)
                                       .arg(model::stage::kMaxPointRate)
                                       .arg(p.parser.value(p.pps)));
        }
    }
    if (p.parser.isSet(p.fps)) {
        options.framesPerSecond = p.parser.value(p.fps).toInt(&number);
        if (!number || options.framesPerSecond < model::stage::kMinFramesPerSecond ||
            options.framesPerSecond > model::stage::kMaxFramesPerSecond) {
            return UsageError(err, QCoreApplication::translate(
                                       "convert", "--fps принимает от %1 до %2, а не «%3»")
                                       .arg(model::stage::kMinFramesPerSecond)
                                       .arg(model::stage::kMaxFramesPerSecond)
                                       .arg(p.parser.value(p.fps)));
        }
    }
    options.optimise = p.parser.isSet(p.optimise);
    if (p.parser.isSet(p.seconds)) {
        options.seconds = p.parser.value(p.seconds).toDouble(&number);
        if (!number || !(options.seconds > 0) || options.seconds > 1e6) {
            return UsageError(err, QCoreApplication::translate(
                                       "convert", "--seconds принимает время больше 0, а не «%1»")
                                       .arg(p.parser.value(p.seconds)));
        }
    }
    if (p.parser.isSet(p.zone)) {
        const auto zone = ParseZone(p.parser.value(p.zone));
        if (!zone) {
            return UsageError(
                err, QCoreApplication::translate("convert",
                                                 "--zone принимает SIZE[,X,Y] в процентах (от 1 до "
                                                 "100, от -100 до 100), а не «%1»")
                         .arg(p.parser.value(p.zone)));
        }
        options.zone = *zone;
    }
    return Play(options, err);
}

}  // namespace convert
