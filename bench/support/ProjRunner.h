#pragma once

// PROJ as the benchmarks' reference: one operation on its own context, run with
// proj_trans_generic over whole vectors of coordinates.

#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <proj.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

class ProjOp {
public:
    // From an EPSG geographic CRS (degrees, longitude first after normalisation) to another CRS.
    ProjOp(const char* source, const char* target)
        : ctx_(proj_context_create(), proj_context_destroy), op_(nullptr, proj_destroy) {
        PJ* raw = proj_create_crs_to_crs(ctx_.get(), source, target, nullptr);
        if (raw == nullptr) {
            throw std::runtime_error(std::string("PROJ cannot build ") + target);
        }
        op_.reset(proj_normalize_for_visualization(ctx_.get(), raw));
        proj_destroy(raw);
    }
    // A PROJ pipeline string.
    explicit ProjOp(const char* definition)
        : ctx_(proj_context_create(), proj_context_destroy), op_(nullptr, proj_destroy) {
        op_.reset(proj_create(ctx_.get(), definition));
        if (!op_) {
            throw std::runtime_error(std::string("PROJ cannot build ") + definition);
        }
    }
    // Transforms x and y in place.
    void run(PJ_DIRECTION direction, std::vector<double>& x, std::vector<double>& y) const {
        proj_trans_generic(op_.get(), direction, x.data(), sizeof(double), x.size(), y.data(),
                           sizeof(double), y.size(), nullptr, 0, 0, nullptr, 0, 0);
    }

private:
    std::unique_ptr<PJ_CONTEXT, decltype(&proj_context_destroy)> ctx_;
    std::unique_ptr<PJ, decltype(&proj_destroy)> op_;
};

// Runs PROJ over a copy of (x, y); the copy is not timed.
inline void RunProj(benchmark::State& state, const ProjOp& op, PJ_DIRECTION direction,
                    const std::vector<double>& x, const std::vector<double>& y) {
    std::vector<double> wx, wy;
    for (auto _ : state) {
        state.PauseTiming();
        wx = x;
        wy = y;
        state.ResumeTiming();
        op.run(direction, wx, wy);
        benchmark::DoNotOptimize(wx.data());
        benchmark::DoNotOptimize(wy.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(x.size()));
}

} // namespace bench
