#include "RecorderDataFile.h"

namespace tesmar {

DataValues RecordValues(const RecorderRecord& record, int channel)
{
    const RecordChannel& values = record.channel(channel);
    return {record.count(), [&values](std::size_t first) { return values.piece(first); }};
}

std::unique_ptr<RecorderStream> RecordFromDataFile(const DataFileScan& scan, DataFileSource& source)
{
    const auto* settings = std::get_if<RecorderSettingsChunk>(&scan.head.settings);
    if (!settings)
        return nullptr;
    const auto count = [](const std::optional<DataChunkPlace>& chunk) {
        return chunk ? std::optional(chunk->count) : std::nullopt;
    };
    return RecorderStream::FromReader(settings->samplePeriod, count(scan.chunkA), count(scan.chunkB),
                                      [&](int channel, std::size_t first, std::span<double> out) {
                                          return ReadDataFileFloats(source, channel == 0 ? *scan.chunkA : *scan.chunkB,
                                                                    first, out);
                                      });
}

} // namespace tesmar
