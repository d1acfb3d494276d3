#include "live/LiveJobs.h"

#include "link/ControllerLink.h"
#include "live/IgnitionPage.h"
#include "params/WriteGate.h"
#include "live/LiveModel.h"
#include "params/ParameterModel.h"

namespace live {

void postVersionFeatures(ControllerLink& link, LiveModel& model, QObject* receiver) {
    struct Result {
        bool read = false;
        int code = 0;
    };
    link.call<Result>(
        receiver,
        [](Controller& c) {
            const int code = c.ReadFeatureVersion();
            return Result{c.lastArrival() == Controller::Arrival::Whole, code};
        },
        // Pages show or hide their controls after every read, kept or new.
        [&model](const Result& r) { model.setVersionCode(r.read ? r.code : model.versionCode()); });
}

void postAnalogThreshold(ControllerLink& link, ParameterModel& params, QObject* receiver) {
    struct Result {
        bool read = false;
        QString threshold;
    };
    link.call<Result>(
        receiver,
        [](Controller& c) {
            Result r;
            if (c.ReadAnalogCapability()) {
                r.read = c.ReadAnalogThreshold();
                r.threshold = c.analogThreshold();
            }
            return r;
        },
        [&params](const Result& r) {
            // Only a threshold that arrived may be shown, and so written back later.
            if (r.read) params.setValue(ParamId::AnalogThreshold, r.threshold);
        });
}

void postReadIgnition(ControllerLink& link, params::WriteGate& gate, LiveModel& model, QObject* receiver) {
    struct Result {
        bool ok = false;
        int index = 0;
    };
    link.call<Result>(
        receiver,
        [&gate](Controller& c) {
            const bool ok = c.ReadIgnition();
            if (ok) {
                ParameterBlock block{};
                for (int i = 0; i < Controller::BlockSize; ++i)
                    block[static_cast<std::size_t>(i)] = c.channel().AnswerByte(i);
                gate.blockRead(block, c.versionCode());
            }
            return Result{ok, c.ignitionIndex()};
        },
        [&model](const Result& r) {
            if (!r.ok) return;
            model.setIgnitionChoice(r.index);
            model.setWizardIgnitionChoice(r.index);
        });
}

void postThresholdOnLeave(ControllerLink& link, ParameterModel& params, const QString& thresholdText) {
    const QString text = thresholdText.trimmed();
    link.call<bool>(
        nullptr, [text](Controller& c) { return writeThresholdOnLeave(c, text); },
        [&params, text](const bool& written) {
            if (written) params.setValue(ParamId::AnalogThreshold, text);
        });
}

} // namespace live
