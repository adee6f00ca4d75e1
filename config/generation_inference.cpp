#include "config/generation_inference.h"

#include "config/config_image.h"
#include "config/image_layout.h"
#include "config/station_address.h"

InferredGeneration inferGeneration(const ConfigImage& image) {
    InferredGeneration inferred;
    const int blockStart = image[kBlockStartIndex];
    if (blockStart + kFieldSize > kImageSize) {
        inferred.evidence = "the address block would start at " + std::to_string(blockStart);
        return inferred;
    }
    const std::string destination = formatStationAddress(&image[static_cast<std::size_t>(blockStart)]);
    inferred.evidence = "destination " + destination + " at " + std::to_string(blockStart);
    const bool frequency = image[9] != 0 || image[10] != 0;
    // Each generation's encoder gives exactly one of these; generation 0 is the window's layout
    // for a file saved before any tracker answered.
    for (std::int32_t model = FirmwareModel::None; model <= FirmwareModel::FaV1_4; ++model) {
        const bool sameLayout = blockStart == addressBlockStart(model) && destination == destinationIdentifier(model);
        const bool sameFrequency = model == FirmwareModel::V1_1 || frequency == (model == FirmwareModel::FaV1_4);
        if (sameLayout && sameFrequency) {
            inferred.model = model;
            inferred.recognised = true;
            if (model >= FirmwareModel::V1_4) inferred.evidence += frequency ? ", with a frequency" : ", without a frequency";
            return inferred;
        }
    }
    return inferred;
}
