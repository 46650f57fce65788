#!/usr/bin/python3
"""Reads a calendar file with Debian's python3-icalendar and prints what it understood, as JSON.

Usage: /usr/bin/python3 readical.py FILE

For each event: its texts, its start as the reader places it in UTC, and the same start placed
by the file's own VTIMEZONE rules instead of the reader's zone database.
"""
import datetime
import json
import sys

import icalendar
import pytz


def iso(value):
    if value is None:
        return None
    return value.isoformat()


def in_utc(value):
    if isinstance(value, datetime.datetime) and value.tzinfo is not None:
        return value.astimezone(pytz.utc).replace(tzinfo=None).isoformat() + 'Z'
    return None


def main():
    with open(sys.argv[1], 'rb') as f:
        calendar = icalendar.Calendar.from_ical(f.read())
    zones = {str(c['TZID']): c.to_tz() for c in calendar.walk('VTIMEZONE')}
    events = []
    for event in calendar.walk('VEVENT'):
        start_property = event.get('DTSTART')
        start = start_property.dt if start_property is not None else None
        by_file = None
        tzid = start_property.params.get('TZID') if start_property is not None else None
        if tzid is not None and isinstance(start, datetime.datetime):
            by_file = in_utc(zones[str(tzid)].localize(start.replace(tzinfo=None)))
        elif isinstance(start, datetime.datetime) and start.tzinfo is not None:
            by_file = in_utc(start)
        end = event.get('DTEND')
        summary = event.get('SUMMARY')
        events.append({
            'uid': str(event.get('UID')) if 'UID' in event else None,
            'summary': str(summary) if summary is not None else None,
            'language': summary.params.get('LANGUAGE') if summary is not None else None,
            'start': iso(start),
            'start_utc': in_utc(start) if start is not None else None,
            'start_utc_by_file': by_file,
            'all_day': isinstance(start, datetime.date)
                       and not isinstance(start, datetime.datetime),
            'end': iso(end.dt) if end is not None else None,
            'created': in_utc(event['CREATED'].dt) if 'CREATED' in event else None,
            'dtstamp': in_utc(event['DTSTAMP'].dt) if 'DTSTAMP' in event else None,
            'x_lines': sorted(k for k in event.keys() if k.startswith('X-')),
            'alarms': [in_utc(a['TRIGGER'].dt) for a in event.walk('VALARM')],
        })
    print(json.dumps({
        'version': str(calendar.get('VERSION')),
        'prodid': str(calendar.get('PRODID')),
        'timezones': sorted(zones),
        'events': events,
    }, ensure_ascii=False))


if __name__ == '__main__':
    main()
