#pragma once
// Distances and bearings on a sphere of radius 3,440.065 NM (6,371,008.8 m), the mean
// radius of the Earth: what the encounter tables and the map's measuring tool give.
namespace pelorin {

inline constexpr double kEarthRadiusNM = 3440.065;

// Great circle distance in NM, and true bearing from the first place to the second in
// whole degrees (0..359). Longitudes may lie whole turns apart.
double DistanceNM(double lat1, double lon1, double lat2, double lon2);
int BearingDegrees(double lat1, double lon1, double lat2, double lon2);

}  // namespace pelorin
