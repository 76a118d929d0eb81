#pragma once
// The project record: the user's display settings (window places, list view
// modes, the optional chart windows, the channel display ranges), one packed
// 240-byte little-endian record that is also the whole content of a project
// file ("*.kpj").  One record lives for the whole run, reached through
// Project(); bytes no window reads are carried from file to file unchanged.
#include <QString>

#include <array>
#include <cstdint>

class ProjectRecord {
public:
    static constexpr int Size = 240;
    // Window positions not yet saved.
    static constexpr int NotSet = -1000;

    // Byte offsets of the fields.
    enum Offset : int {
        OffGpsTraceLeft = 0,
        OffGpsTraceTop = 4,
        OffTemp1ChartLeft = 8,
        OffTemp1ChartTop = 12,
        OffTemp2ChartLeft = 16,
        OffTemp2ChartTop = 20,
        OffRpmChartLeft = 24,
        OffRpmChartTop = 28,
        OffGForceChartLeft = 32,
        OffGForceChartTop = 36,
        OffDriverListView = 40,
        OffTrackListView = 41,
        OffChartGpsViewLeft = 42,
        OffChartGpsViewTop = 46,
        OffLinkedGpsViewLeft = 50,
        OffLinkedGpsViewTop = 54,
        OffLinkedGpsViewHeight = 58,
        OffLinkedGpsViewWidth = 62,
        OffLapTimeDiagramOn = 66,
        OffWholeSessionChartOn = 67,
        OffLapOverlayChartOn = 68,
        OffRpmMin = 69,
        OffRpmMax = 71,
        OffTemp1Min = 73,
        OffTemp1Max = 75,
        OffAccMin = 77,
        OffAccMax = 79,
        OffTemp2Min = 81,
        OffTemp2Max = 83,
        OffVGpsMax = 85,  // the GPS speed pair stores its maximum first
        OffVGpsMin = 87,
        OffUnused = 89,   // 89..239: not used, kept as read
    };

    // All bytes zero, as at the program's start.
    ProjectRecord() = default;

    // Raw bytes.
    const std::array<std::uint8_t, Size>& Bytes() const { return bytes_; }
    std::array<std::uint8_t, Size>& Bytes() { return bytes_; }

    // Fields by offset.  16-bit setters store the low 16 bits of the value.
    std::int32_t Int32At(int offset) const;
    void SetInt32At(int offset, std::int32_t value);
    int Int16At(int offset) const;   // signed 16-bit
    int UInt16At(int offset) const;  // unsigned 16-bit
    void SetInt16At(int offset, int value);
    std::uint8_t ByteAt(int offset) const;
    void SetByteAt(int offset, std::uint8_t value);

    // Saved window places (NotSet = not saved): the GPS trace window and its
    // four linked chart windows "Temp 1", "Temp 2", "RPM", "GForce".
    std::int32_t GpsTraceLeft() const { return Int32At(OffGpsTraceLeft); }
    std::int32_t GpsTraceTop() const { return Int32At(OffGpsTraceTop); }
    std::int32_t Temp1ChartLeft() const { return Int32At(OffTemp1ChartLeft); }
    std::int32_t Temp1ChartTop() const { return Int32At(OffTemp1ChartTop); }
    std::int32_t Temp2ChartLeft() const { return Int32At(OffTemp2ChartLeft); }
    std::int32_t Temp2ChartTop() const { return Int32At(OffTemp2ChartTop); }
    std::int32_t RpmChartLeft() const { return Int32At(OffRpmChartLeft); }
    std::int32_t RpmChartTop() const { return Int32At(OffRpmChartTop); }
    std::int32_t GForceChartLeft() const { return Int32At(OffGForceChartLeft); }
    std::int32_t GForceChartTop() const { return Int32At(OffGForceChartTop); }
    void SetGpsTraceLeft(std::int32_t v) { SetInt32At(OffGpsTraceLeft, v); }
    void SetGpsTraceTop(std::int32_t v) { SetInt32At(OffGpsTraceTop, v); }
    void SetTemp1ChartLeft(std::int32_t v) { SetInt32At(OffTemp1ChartLeft, v); }
    void SetTemp1ChartTop(std::int32_t v) { SetInt32At(OffTemp1ChartTop, v); }
    void SetTemp2ChartLeft(std::int32_t v) { SetInt32At(OffTemp2ChartLeft, v); }
    void SetTemp2ChartTop(std::int32_t v) { SetInt32At(OffTemp2ChartTop, v); }
    void SetRpmChartLeft(std::int32_t v) { SetInt32At(OffRpmChartLeft, v); }
    void SetRpmChartTop(std::int32_t v) { SetInt32At(OffRpmChartTop, v); }
    void SetGForceChartLeft(std::int32_t v) { SetInt32At(OffGForceChartLeft, v); }
    void SetGForceChartTop(std::int32_t v) { SetInt32At(OffGForceChartTop, v); }

    // View mode of the driver and track lists: 0 picture cards, 1 table.
    std::uint8_t DriverListView() const { return ByteAt(OffDriverListView); }
    std::uint8_t TrackListView() const { return ByteAt(OffTrackListView); }
    void SetDriverListView(std::uint8_t v) { SetByteAt(OffDriverListView, v); }
    void SetTrackListView(std::uint8_t v) { SetByteAt(OffTrackListView, v); }

    // Place of the linked GPS view opened from the Sessions chart or the lap
    // comparison (one pair for both).
    std::int32_t ChartGpsViewLeft() const { return Int32At(OffChartGpsViewLeft); }
    std::int32_t ChartGpsViewTop() const { return Int32At(OffChartGpsViewTop); }
    void SetChartGpsViewLeft(std::int32_t v) { SetInt32At(OffChartGpsViewLeft, v); }
    void SetChartGpsViewTop(std::int32_t v) { SetInt32At(OffChartGpsViewTop, v); }

    // Place and size of the linked GPS view of the session panel.
    std::int32_t LinkedGpsViewLeft() const { return Int32At(OffLinkedGpsViewLeft); }
    std::int32_t LinkedGpsViewTop() const { return Int32At(OffLinkedGpsViewTop); }
    std::int32_t LinkedGpsViewHeight() const { return Int32At(OffLinkedGpsViewHeight); }
    std::int32_t LinkedGpsViewWidth() const { return Int32At(OffLinkedGpsViewWidth); }
    void SetLinkedGpsViewLeft(std::int32_t v) { SetInt32At(OffLinkedGpsViewLeft, v); }
    void SetLinkedGpsViewTop(std::int32_t v) { SetInt32At(OffLinkedGpsViewTop, v); }
    void SetLinkedGpsViewHeight(std::int32_t v) { SetInt32At(OffLinkedGpsViewHeight, v); }
    void SetLinkedGpsViewWidth(std::int32_t v) { SetInt32At(OffLinkedGpsViewWidth, v); }

    // The optional chart windows of the analysis: 1 belongs to it, 0 not.
    std::uint8_t LapTimeDiagramOn() const { return ByteAt(OffLapTimeDiagramOn); }
    std::uint8_t WholeSessionChartOn() const { return ByteAt(OffWholeSessionChartOn); }
    std::uint8_t LapOverlayChartOn() const { return ByteAt(OffLapOverlayChartOn); }
    void SetLapTimeDiagramOn(std::uint8_t v) { SetByteAt(OffLapTimeDiagramOn, v); }
    void SetWholeSessionChartOn(std::uint8_t v) { SetByteAt(OffWholeSessionChartOn, v); }
    void SetLapOverlayChartOn(std::uint8_t v) { SetByteAt(OffLapOverlayChartOn, v); }

    // Display ranges, signed 16-bit (Acc for both acceleration axes).
    int RpmMin() const { return Int16At(OffRpmMin); }
    int RpmMax() const { return Int16At(OffRpmMax); }
    int Temp1Min() const { return Int16At(OffTemp1Min); }
    int Temp1Max() const { return Int16At(OffTemp1Max); }
    int AccMin() const { return Int16At(OffAccMin); }
    int AccMax() const { return Int16At(OffAccMax); }
    int Temp2Min() const { return Int16At(OffTemp2Min); }
    int Temp2Max() const { return Int16At(OffTemp2Max); }
    void SetRpmMin(int v) { SetInt16At(OffRpmMin, v); }
    void SetRpmMax(int v) { SetInt16At(OffRpmMax, v); }
    void SetTemp1Min(int v) { SetInt16At(OffTemp1Min, v); }
    void SetTemp1Max(int v) { SetInt16At(OffTemp1Max, v); }
    void SetAccMin(int v) { SetInt16At(OffAccMin, v); }
    void SetAccMax(int v) { SetInt16At(OffAccMax, v); }
    void SetTemp2Min(int v) { SetInt16At(OffTemp2Min, v); }
    void SetTemp2Max(int v) { SetInt16At(OffTemp2Max, v); }

    // GPS speed range, unsigned 16-bit.
    int VGpsMax() const { return UInt16At(OffVGpsMax); }
    int VGpsMin() const { return UInt16At(OffVGpsMin); }
    void SetVGpsMax(int v) { SetInt16At(OffVGpsMax, v); }
    void SetVGpsMin(int v) { SetInt16At(OffVGpsMin, v); }

    // New project: list views 1, window places NotSet, the three chart
    // windows on, default ranges (RPM 0..15000, Temp1 0..70, Acc -3..3,
    // Temp2 0..700), and the GPS speed range as Open fills it in (0..120
    // when not set; a set one is kept).  The other places and the unused
    // bytes are left as they are.
    void ResetForNewProject();

    // A display range is not set when its maximum is 0 or it has no width
    // (every value would read as its minimum).  A minimum above the maximum
    // is a set range: the chart is drawn upside down.
    static bool RangeNotSet(int min, int max) { return max == 0 || max == min; }

    // After a project file was read: every range that is not set takes its
    // default (both ends), GPS speed 0..120.
    void ApplyOpenDefaults();

    // Creates or replaces the file with the 240 bytes.  The file is replaced
    // as a whole (temporary file + rename), so a failed save leaves the old
    // file; a writable file in a folder where no temporary file can be made
    // is written in place.  Failures throw std::runtime_error with the path
    // and the system's message.
    void SaveToFile(const QString& path) const;

    // Reads the first 240 bytes of the file.  A file that cannot be read or
    // is shorter throws std::runtime_error and leaves the record as it was.
    void LoadFromFile(const QString& path);

    bool operator==(const ProjectRecord&) const = default;

private:
    std::array<std::uint8_t, Size> bytes_{};
};

// The one project record of the run (a function-local static, all bytes
// zero at the start); every window reaches it through this.
ProjectRecord& Project();
